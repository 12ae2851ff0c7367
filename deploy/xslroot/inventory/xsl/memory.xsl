<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Memory: one instance per system memory array and per module
     (bank) of the inventory's Memory section; a get keeps the one whose id is
     the DeviceID key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="(/QRVCIM/Inventory/Memory/Array | /QRVCIM/Inventory/Memory/Array/Module)
                                 [@id != ''][not($get) or @id = $key]"/>
  </xsl:template>

  <xsl:template match="Array | Module">
    <xsl:text>instance of Korvex_Memory&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="@id"/>
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
      <xsl:with-param name="name" select="'SerialNumber'"/>
      <xsl:with-param name="value" select="@serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Slot'"/>
      <xsl:with-param name="value" select="@slot"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Capacity'"/>
      <xsl:with-param name="value" select="@sizeBytes"/>
      <xsl:with-param name="digits" select="19"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Speed'"/>
      <xsl:with-param name="value" select="@speedMHz"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="@widthBits"/>
      <xsl:with-param name="digits" select="4"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
