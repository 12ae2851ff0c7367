<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Processor: one instance per processor package (socket) of the
     inventory's Processors section; a get keeps the one whose id is the
     DeviceID key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Processors/Processor[@id != ''][not($get) or @id = $key]"/>
  </xsl:template>

  <xsl:template match="Processor">
    <xsl:text>instance of Korvex_Processor&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="@id"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="@vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Version'"/>
      <xsl:with-param name="value" select="@version"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Slot'"/>
      <xsl:with-param name="value" select="@slot"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'BusInfo'"/>
      <xsl:with-param name="value" select="@busInfo"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="@widthBits"/>
      <xsl:with-param name="digits" select="4"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'CurrentClockSpeed'"/>
      <xsl:with-param name="value" select="@currentMHz"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'MaxClockSpeed'"/>
      <xsl:with-param name="value" select="@maxMHz"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'NumberOfCores'"/>
      <xsl:with-param name="value" select="@cores"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'NumberOfEnabledCores'"/>
      <xsl:with-param name="value" select="@enabledCores"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'NumberOfLogicalProcessors'"/>
      <xsl:with-param name="value" select="@logicalProcessors"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'Enabled'"/>
      <xsl:with-param name="value" select="@enabled"/>
    </xsl:call-template>
    <xsl:call-template name="array-property">
      <xsl:with-param name="name" select="'Capabilities'"/>
      <xsl:with-param name="values" select="Capability/@name[normalize-space() != '']"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
