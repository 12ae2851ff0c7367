<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_NetworkAdapter: one instance per network interface of the
     inventory's NetworkAdapters section; a get keeps the one whose id is the
     DeviceID key. IPAddress is the first IPv4 address, IPAddresses all. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/NetworkAdapters/NetworkAdapter[@id != ''][not($get) or @id = $key]"/>
  </xsl:template>

  <xsl:template match="NetworkAdapter">
    <xsl:text>instance of Korvex_NetworkAdapter&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="@id"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Description'"/>
      <xsl:with-param name="value" select="@description"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Product'"/>
      <xsl:with-param name="value" select="@product"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="@vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'MACAddress'"/>
      <xsl:with-param name="value" select="@mac"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'BusInfo'"/>
      <xsl:with-param name="value" select="@busInfo"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Driver'"/>
      <xsl:with-param name="value" select="@driver"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DriverVersion'"/>
      <xsl:with-param name="value" select="@driverVersion"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'IPAddress'"/>
      <xsl:with-param name="value" select="Address[@family = 'ipv4'][normalize-space(@value) != ''][1]/@value"/>
    </xsl:call-template>
    <xsl:call-template name="array-property">
      <xsl:with-param name="name" select="'IPAddresses'"/>
      <xsl:with-param name="values" select="Address/@value[normalize-space() != '']"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'LinkUp'"/>
      <xsl:with-param name="value" select="@linkUp"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Speed'"/>
      <xsl:with-param name="value" select="@speedBps"/>
      <xsl:with-param name="digits" select="19"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
